
 	
technique T
pass P
vertex
x
fragment
y
